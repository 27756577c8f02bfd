// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for tests that drive real windows on the offscreen platform.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <QPointer>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

// The child of a type with an object name; a failure when there is none.
template <class T>
T* Child(QWidget* parent, const char* name)
{
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// The push button or the text of a window that shows text (UTF-8); a failure when none.
inline QPushButton* FindButton(QWidget* parent, const char* text)
{
    for (QPushButton* b : parent->findChildren<QPushButton*>())
        if (b->text() == QString::fromUtf8(text))
            return b;
    ADD_FAILURE() << "no button " << text;
    return nullptr;
}
inline QLabel* FindLabel(QWidget* parent, const char* text)
{
    for (QLabel* l : parent->findChildren<QLabel*>())
        if (l->text() == QString::fromUtf8(text))
            return l;
    ADD_FAILURE() << "no text " << text;
    return nullptr;
}

// Processes events until pred holds or timeoutMs has passed; returns pred().
inline bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred() && timer.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return pred();
}

// Collects what the process writes to standard error while it lives, so that a test can
// check that a refusal reached the player in a window and not only the terminal.
class StderrCapture {
public:
    StderrCapture()
    {
        std::fflush(stderr);
        m_file = std::tmpfile();
        m_saved = ::dup(STDERR_FILENO);
        if (m_file && m_saved >= 0)
            ::dup2(::fileno(m_file), STDERR_FILENO);
    }
    ~StderrCapture() { Restore(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Everything written so far; puts standard error back first.
    std::string Text()
    {
        Restore();
        std::string text;
        if (!m_file)
            return "(standard error could not be captured)";
        std::rewind(m_file);
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0;)
            text.append(buffer, n);
        return text;
    }

private:
    void Restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }
    std::FILE* m_file = nullptr;
    int m_saved = -1;
};

// Checks that the messages a flow showed in windows were not printed as well, and
// that nothing of the game's own went to the terminal (Qt's platform notes may).
inline std::string PrintedRefusals(StderrCapture& capture, const QStringList& shown)
{
    const std::string terminal = capture.Text();
    std::string found;
    if (terminal.find("velcor") != std::string::npos)
        found += terminal;
    for (const QString& text : shown) {
        const std::string first = text.section(QLatin1Char('\n'), 0, 0).toStdString();
        if (!first.empty() && terminal.find(first) != std::string::npos)
            found += first + "\n";
    }
    return found;
}

// Runs action on the active modal window as soon as there is one (polling from the
// event loop the modal window runs), at most once, within timeoutMs.
// The parent of OnModal's timers. The test main deletes its children when a test ends,
// so that a wait left over from one test never acts on the next one's window (a test
// run slowly, under a sanitizer, may end before its wait has given up).
inline QObject& PendingModalActions()
{
    static QObject* const holder = new QObject;
    return *holder;
}

inline void OnModal(std::function<void(QWidget*)> action, int timeoutMs = 5000)
{
    auto* timer = new QTimer(&PendingModalActions());
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

// A screen of the test platform by its name (gui_test_main.cpp).
inline QScreen* TestScreen(const char* name)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == QLatin1String(name))
            return screen;
    ADD_FAILURE() << "no screen " << name;
    return QGuiApplication::primaryScreen();
}
// Its 1920 x 1080 screen beside the primary one.
inline QScreen* WideScreen() { return TestScreen("wide"); }
