#include "run_controller.h"

namespace pathshift::app {

RunController::RunController(QObject* parent) : QObject(parent) {}

RunController::~RunController() {
    cancel();
    wait();
    delete thread_;  // ended() will not come for it now
}

void RunController::start(std::vector<std::filesystem::path> sources, std::filesystem::path destination,
                          ConversionOptions options, MachiningRates rates) {
    if (running()) return;
    stop_ = false;
    result_ = {};
    // The thread owns copies of everything it reads, so the window may change while it runs.
    thread_ = QThread::create([this, sources = std::move(sources), destination = std::move(destination),
                               options = std::move(options), rates] {
        const int count = static_cast<int>(sources.size());
        std::size_t started = sources.size();  // no file yet
        auto onProgress = [&](const RunProgress& p) {
            if (p.fileIndex == started) return;  // only the start of each file
            started = p.fileIndex;
            emit fileStarted(static_cast<int>(p.fileIndex), count, QString::fromStdString(p.source->filename().string()));
        };
        int done = 0;
        auto onFileDone = [&](const FileResult& file) {
            ++done;
            emit fileDone(done, count,
                          file.converted ? QString::fromStdString(file.target.filename().string()) : QString());
        };
        RunResult run = convertFiles(sources, destination, options, onProgress, onFileDone,
                                     [this] { return stop_.load(); }, rates);
        result_ = std::move(run);
    });
    connect(thread_, &QThread::finished, this, &RunController::ended);
    thread_->start();
}

void RunController::wait() {
    if (thread_) thread_->wait();
}

void RunController::ended() {
    thread_->deleteLater();
    thread_ = nullptr;
    emit finished();
}

}  // namespace pathshift::app
