#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <concepts>

// The shared instances of the program's views and dialogs: each exists at most once, is created
// on first use, destroyed when unloaded and created afresh the next time. Windows are known by
// their class name, which is also their objectName.
namespace Forms {

// The live instance registered under the name, or null.
QWidget* find(const QString& name);
// Whether the named window exists and is shown.
bool isOpen(const QString& name);
// Whether any shared window is alive (the program is running).
bool anyAlive();

// Records a new shared instance under its class name.
void track(QWidget* window);
// Takes the window out of the registry (it is closing); the next use creates a new one.
void forget(QWidget* window);
// Takes the window out of the registry and destroys it (and the frame it sits in, for a view)
// once control returns to the event loop; nothing reaches it by name afterwards.
void unload(QWidget* window);
void unload(const QString& name);

template <class T>
T* find()
{
    return qobject_cast<T*>(find(QString::fromLatin1(T::staticMetaObject.className())));
}

template <class T>
bool isOpen()
{
    return isOpen(QString::fromLatin1(T::staticMetaObject.className()));
}

// The open (shown) window of that name as the typed interface it offers a dialog (the
// selection of a view, say), or null when it is not open or offers no such interface.
template <class Interface>
Interface* openAs(const QString& name)
{
    QWidget* w = find(name);
    return w && w->isVisible() ? dynamic_cast<Interface*>(w) : nullptr;
}

// The shared instance of T, created when there is none: built, recorded in the registry, then
// loaded (its Form_Load), so that whatever the load asks sees the registry whole. A Form_Load
// that returns false refuses to open: the window is unloaded again and null returned.
template <class T>
T* instance()
{
    if (T* existing = find<T>())
        return existing;
    T* created = new T();
    track(created);
    if constexpr (requires {
                      {
                          created->Form_Load()
                          } -> std::same_as<bool>;
                  }) {
        if (!created->Form_Load()) {
            unload(created);
            return nullptr;
        }
    } else if constexpr (requires { created->Form_Load(); }) {
        created->Form_Load();
    }
    return created;
}

// The shared instance of T shown and brought forward; loaded first when there is none, while
// one that is shown already keeps what it holds.
template <class T>
T* show()
{
    T* window = instance<T>();
    if (!window)
        return nullptr;
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace Forms
