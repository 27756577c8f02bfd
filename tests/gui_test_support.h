// Helpers for tests that drive real windows on the offscreen platform.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

// Processes events until pred holds or timeoutMs has passed; returns pred().
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred() && timer.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return pred();
}

// Runs action on the active modal window as soon as there is one (polling from the
// event loop the modal window runs), at most once, within timeoutMs.
inline void OnModal(std::function<void(QWidget*)> action, int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, [timer, started, action = std::move(action), timeoutMs] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        } else if (started->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(5);
}

// A scripted player for flows that open modal windows one after another: each step
// waits until the active modal window is of its type, then acts on it (from the event
// loop, so an action may itself open a modal window).
class ModalScript : public QObject {
public:
    template <class T>
    ModalScript& Then(std::function<void(T*)> action)
    {
        m_steps.push_back({[](QWidget* w) { return dynamic_cast<T*>(w) != nullptr; },
                           [action](QWidget* w) { action(dynamic_cast<T*>(w)); }});
        return *this;
    }

    // Starts watching; the steps run as their windows appear.
    void Start()
    {
        m_next = 0;
        connect(&m_poll, &QTimer::timeout, this, [this] {
            if (m_next >= m_steps.size()) {
                m_poll.stop();
                return;
            }
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || !m_steps[m_next].matches(modal))
                return;
            auto act = m_steps[m_next].act;
            ++m_next;
            QPointer<QWidget> target(modal);
            QTimer::singleShot(0, modal, [act, target] {
                if (target)
                    act(target);
            });
        });
        m_poll.start(5);
    }

    bool Done() const { return m_next >= m_steps.size(); }
    std::size_t StepsRun() const { return m_next; }

private:
    struct Step {
        std::function<bool(QWidget*)> matches;
        std::function<void(QWidget*)> act;
    };
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    QTimer m_poll;
};
