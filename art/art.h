#pragma once

#include "ui/controls.h"

// The program's pictures, drawn in code so they are crisp at every pixel ratio. Each call
// returns the same picture object, so controls that share a picture compare equal.
namespace vx::art
{

PicturePtr hubBackground();
PicturePtr closeStripBackground();
PicturePtr noticeBackground();
PicturePtr listBackground();
PicturePtr addBackground();
PicturePtr editBackground();
PicturePtr optionsBackground();
PicturePtr aboutPicture();
// The progress window's face, headed with what it follows ("Copying", "Importing ROMs").
PicturePtr progressBackground(const QString& title);

// The filled part of the copy window's bar, `fraction` (0 to 1) of `rect`.
void paintProgress(QPainter& painter, const QRectF& rect, double fraction);

// A check box into `rect`: a small well, ticked or not, and its caption beside it in the
// captions' look.
void paintCheckBox(QPainter& painter, const QRectF& rect, const QString& caption, bool checked);

PicturePtr okButton(bool pressed);
PicturePtr cancelButton(bool pressed);
PicturePtr browseButton(bool pressed);
PicturePtr clearButton(bool pressed);

// The application icon.
PicturePtr appIcon();

} // namespace vx::art
