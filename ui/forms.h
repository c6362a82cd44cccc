#pragma once

#include <QWidget>
#include <memory>

namespace vx
{

// Each window is one instance, created and loaded the first time any code touches it and kept
// until the process ends (or a test unloads every window to start afresh).
void adoptForm(std::unique_ptr<QWidget> form, void (*forget)());
void unloadAllForms();

template <class T> T& lazyForm()
{
    static T* instance = nullptr;
    if (!instance) {
        auto form = std::make_unique<T>();
        instance = form.get();
        adoptForm(std::move(form), [] { instance = nullptr; });
        // The instance is reachable before it loads, so a load that touches it finds it.
        instance->Form_Load();
    }
    return *instance;
}

} // namespace vx
