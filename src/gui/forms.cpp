#include "gui/forms.h"

#include <QHash>
#include <QMdiSubWindow>

namespace {
QHash<QString, QPointer<QWidget>>& registry()
{
    static QHash<QString, QPointer<QWidget>> r;
    return r;
}
} // namespace

QWidget* Forms::find(const QString& name)
{
    auto it = registry().constFind(name);
    return it == registry().constEnd() ? nullptr : it->data();
}

bool Forms::isOpen(const QString& name)
{
    QWidget* w = find(name);
    return w && w->isVisible();
}

bool Forms::anyAlive()
{
    for (const QPointer<QWidget>& w : std::as_const(registry())) {
        if (w)
            return true;
    }
    return false;
}

void Forms::track(QWidget* window)
{
    const QString name = QString::fromLatin1(window->metaObject()->className());
    window->setObjectName(name);
    window->setAttribute(Qt::WA_DeleteOnClose);
    registry().insert(name, window);
}

void Forms::forget(QWidget* window)
{
    for (auto it = registry().begin(); it != registry().end();) {
        if (!*it || *it == window)
            it = registry().erase(it);
        else
            ++it;
    }
}

void Forms::unload(QWidget* window)
{
    if (!window)
        return;
    forget(window);
    QWidget* outer = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    if (!outer)
        outer = window;
    outer->hide();
    outer->deleteLater();
}

void Forms::unload(const QString& name)
{
    unload(find(name));
}
