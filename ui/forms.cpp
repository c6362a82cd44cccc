#include "ui/forms.h"

#include <QCoreApplication>
#include <utility>
#include <vector>

namespace vx
{

namespace
{

struct Loaded {
    std::unique_ptr<QWidget> form;
    void (*forget)();
};

std::vector<Loaded>& loaded()
{
    static std::vector<Loaded> forms;
    return forms;
}

} // namespace

void adoptForm(std::unique_ptr<QWidget> form, void (*forget)())
{
    static bool hooked = false;
    if (!hooked) {
        // Windows must go before the application object does.
        qAddPostRoutine(unloadAllForms);
        hooked = true;
    }
    loaded().push_back({std::move(form), forget});
}

void unloadAllForms()
{
    std::vector<Loaded> forms;
    forms.swap(loaded());
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        it->forget();
        it->form.reset();
    }
}

} // namespace vx
