#include "events.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWindow>
#include <deque>
#include <memory>

namespace Events {
namespace {

class KeyQueue : public QObject {
public:
    int depth = 0;
    bool replaying = false;
    struct Held {
        std::unique_ptr<QEvent> event;
        QPointer<QWindow> window;
    };
    std::deque<Held> queue;

    static KeyQueue &instance()
    {
        static KeyQueue *q = [] {
            auto *k = new KeyQueue;
            if (QCoreApplication::instance()) {
                k->setParent(QCoreApplication::instance());
                QCoreApplication::instance()->installEventFilter(k);
            }
            return k;
        }();
        return *q;
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (depth == 0 || !watched->isWindowType())
            return false;
        if (QApplication::activeModalWidget())
            return false;   // a box opened by the handler takes its own keys
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            queue.push_back({std::unique_ptr<QEvent>(event->clone()), static_cast<QWindow *>(watched)});
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel: return true;
        default: return false;
        }
    }

    void replay()
    {
        replaying = true;
        while (!queue.empty() && depth == 0) {
            Held held = std::move(queue.front());
            queue.pop_front();
            QWindow *target = QGuiApplication::focusWindow();
            if (!target)
                target = held.window;
            if (target)
                QCoreApplication::sendEvent(target, held.event.get());
        }
        replaying = false;
    }
};

}   // namespace

void DoEvents()
{
    KeyQueue::instance();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

InputHold::InputHold() { ++KeyQueue::instance().depth; }

InputHold::~InputHold()
{
    KeyQueue &q = KeyQueue::instance();
    if (--q.depth == 0 && !q.replaying && !q.queue.empty())
        q.replay();
}

bool holding() { return KeyQueue::instance().depth > 0; }
int queuedKeys() { return static_cast<int>(KeyQueue::instance().queue.size()); }

}   // namespace Events
