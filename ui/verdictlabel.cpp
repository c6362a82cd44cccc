#include "ui/verdictlabel.h"

#include "core/verifier.h"

namespace vx
{

VerdictLabel::VerdictLabel(const QString& name, QWidget* parent) : Label(name, parent)
{
    Verifier& verifier = Verifier::get();
    connect(&verifier, &Verifier::verdictReady, this,
            [this](const QString& path, const std::optional<Verdict>& verdict) {
                if (path == m_path)
                    setCaption(verdict ? verdict->text() : QString());
            });
    connect(&verifier, &Verifier::datChanged, this, &VerdictLabel::refresh);
}

void VerdictLabel::showFor(const QString& romPath)
{
    m_path = romPath;
    refresh();
}

void VerdictLabel::refresh()
{
    const std::optional<Verdict> verdict =
        m_path.isEmpty() ? std::nullopt : Verifier::get().verdict(m_path);
    setCaption(verdict ? verdict->text() : QString());
}

} // namespace vx
