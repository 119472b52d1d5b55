#pragma once
// A conversion run on a thread of its own, so the window stays responsive while it lasts: the
// engine's serial run over the files (what `pathshift-cli -j 1` does), asked between files whether
// to stop. Everything it reports arrives on the window's thread, as signals, in order.

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <filesystem>
#include <memory>
#include <vector>

#include "engine/runs/file_run.h"

namespace pathshift::app {

class RunController : public QObject {
    Q_OBJECT
public:
    explicit RunController(QObject* parent = nullptr);
    ~RunController() override;  // stops after the file in hand and waits for it

    bool running() const { return thread_ != nullptr; }
    // Starts a run; ignored while one is running.
    void start(std::vector<std::filesystem::path> sources, std::filesystem::path destination,
               ConversionOptions options, MachiningRates rates = {});
    // Stops the run after the file in hand; the files not started are left alone.
    void cancel() { stop_ = true; }
    // Blocks until the run's thread has ended; finished() still comes through the event loop.
    void wait();

    // The last run's result, once finished() has been emitted.
    const RunResult& result() const { return result_; }

signals:
    void fileStarted(int index, int count, const QString& name);
    // `written` is the name of the file written into the destination, empty when none was.
    void fileDone(int done, int count, const QString& written);
    void finished();

private:
    void ended();

    QThread* thread_ = nullptr;
    std::atomic<bool> stop_{false};
    RunResult result_;
};

}  // namespace pathshift::app
