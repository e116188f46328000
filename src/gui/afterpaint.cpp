#include "gui/afterpaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

// Lives as the widget's child: deleted with it, so its work never outlives the widget.
class FirstPaintWatch : public QObject
{
public:
    FirstPaintWatch(QWidget* widget, std::function<void()> work, int latestMs) : QObject(widget), work_(std::move(work))
    {
        widget->installEventFilter(this);
        QTimer::singleShot(latestMs, this, &FirstPaintWatch::fire);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The paint is flushed to the screen before control returns to the event loop.
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, &FirstPaintWatch::fire);
        }
        return false;
    }

private:
    void fire()
    {
        if (!work_)
            return;
        parent()->removeEventFilter(this);
        const auto work = std::move(work_);
        work_ = nullptr;
        deleteLater();
        work();
    }

    std::function<void()> work_;
};

} // namespace

void Gui::afterFirstPaint(QWidget* widget, std::function<void()> work, int latestMs)
{
    new FirstPaintWatch(widget, std::move(work), latestMs);
}
