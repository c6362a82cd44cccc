#pragma once

class QWidget;

namespace vx
{

// Keeps the window above others without hiding or showing it; asks for it again when the window
// already is, as each showing of a window must.
void setTopmost(QWidget& window);
bool isTopmost(const QWidget& window);

// Lets the user drag a borderless window as if by its caption; call from a mouse press.
void startWindowDrag(QWidget& window);

void minimizeWindow(QWidget& window);

// Ends the process at once: no further handlers run. Catalogue writes are never left half
// done, since each completes before control returns to the event loop. A test installs a hook
// instead, which records the request and returns.
void endProgram();
void setEndProgramHook(void (*hook)());

} // namespace vx
