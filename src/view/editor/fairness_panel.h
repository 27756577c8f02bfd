// SPDX-License-Identifier: GPL-3.0-or-later
// The fairness table beside the editor: the scenario played in the background on
// copies, measured again after each change, each figure that misses its target marked,
// and, when asked, how an advised player fares. The editor never waits for it: the
// games run on the jobs' own threads, the table follows when they are done, and a job
// made stale by a change is let go on a thread of its own (letting an advised job go
// waits for the advice in hand).
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <future>
#include <memory>
#include <optional>
#include <vector>

#include "foresight/fairness.h"
#include "model/scenario_pair.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QTableWidget;

namespace editor {

// Jobs let go off the interface thread; its end waits for them all.
class JobReaper {
public:
    JobReaper() = default;
    ~JobReaper();
    JobReaper(const JobReaper&) = delete;
    JobReaper& operator=(const JobReaper&) = delete;

    // Cancels the job and lets it go on a thread of its own (on this one when the
    // system gives none).
    void Let(std::unique_ptr<foresight::FairnessJob> job);

private:
    std::vector<std::future<void>> m_going;
};

class FairnessPanel : public QWidget {
    Q_OBJECT

public:
    // A change waits this long for the next before the games start: a spin box's arrow
    // held down measures once.
    static constexpr int kQuietMs = 100;
    static constexpr int kPollMs = 100;

    explicit FairnessPanel(QWidget* parent = nullptr);
    ~FairnessPanel() override;

    // Measures pair anew; the table shown stays, greyed, until the new one is done.
    void Measure(const ScenarioPair& pair);
    // Adds the advised player's columns (measured after the resting games, slower).
    void SetAdvised(bool on);
    bool Advised() const;

    // The table shown, and whether it is the last pair's with every column asked for.
    const std::optional<foresight::FairnessTable>& Table() const { return m_table; }
    bool Current() const;
    // From the change to the table shown, the last time one was.
    qint64 LastRefreshMs() const { return m_refreshMs; }
    // The job measuring now, if any (tests read its progress).
    const foresight::FairnessJob* Job() const { return m_job.get(); }

signals:
    // A table of the last pair is shown (the advised columns may follow).
    void refreshed();

protected:
    void changeEvent(QEvent* event) override;

private:
    void StartJob(bool advised);
    void OnJobFinished();
    void Poll();
    void Fill();
    void Retranslate();

    ScenarioPair m_pair;
    std::unique_ptr<foresight::FairnessJob> m_job;
    bool m_jobAdvised = false;
    std::optional<foresight::FairnessTable> m_table;
    bool m_current = false; // m_table is the last pair's
    qint64 m_refreshMs = -1;
    QElapsedTimer m_sinceChange;
    QTimer m_quiet;
    QTimer m_poll;
    QLabel* m_heading;
    QTableWidget* m_grid;
    QLabel* m_verdict;
    QLabel* m_legend;
    QLabel* m_progressText;
    QProgressBar* m_progress;
    QCheckBox* m_advised;
    std::unique_ptr<JobReaper> m_reaper;
};

} // namespace editor
