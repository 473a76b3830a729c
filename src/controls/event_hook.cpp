#include "controls/event_hook.h"

#include <QMouseEvent>
#include <QWidget>

namespace {

class EventHook : public QObject {
public:
    EventHook(QWidget* w, QEvent::Type type, std::function<void()> fn) : QObject(w), type_(type), fn_(std::move(fn))
    {
        w->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != type_)
            return false;
        if (type_ == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() != Qt::LeftButton)
            return false;
        fn_();
        return false;
    }

private:
    QEvent::Type type_;
    std::function<void()> fn_;
};

} // namespace

void onEvent(QWidget* w, QEvent::Type type, std::function<void()> fn) { new EventHook(w, type, std::move(fn)); }
