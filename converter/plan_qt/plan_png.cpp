#include "plan_qt/plan_png.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <cmath>
#include <cstdio>
#include <memory>

#include "engine/io/atomic_file.h"
#include "engine/io/text_source.h"
#include "plan_qt/plan_painter.h"

namespace pathshift {
namespace {

// Pixels a picture may hold: beyond this the image alone would take gigabytes.
constexpr double kMostPixels = 200e6;

// The page is only known after the first reading of the moves: the image is made then.
class ImageCanvas final : public PlanCanvas {
public:
    bool begin(const PlanPage& page, const PlanSummary& summary) override {
        if (page.width * page.height > kMostPixels) {
            error_ = "the picture would be too large; choose a smaller --width";
            return false;
        }
        image_ = QImage(static_cast<int>(std::ceil(page.width)), static_cast<int>(std::ceil(page.height)),
                        QImage::Format_RGB32);
        if (image_.isNull()) {
            error_ = "not enough memory for the picture";
            return false;
        }
        painter_ = std::make_unique<QPainter>(&image_);
        canvas_ = std::make_unique<PlanPainter>(*painter_);
        return canvas_->begin(page, summary);
    }
    bool segment(const PlanSegment& segment) override { return canvas_->segment(segment); }
    bool end() override {
        const bool ended = canvas_->end();
        canvas_.reset();
        painter_.reset();
        return ended;
    }
    std::string error() const override { return error_; }
    const QImage& image() const { return image_; }

private:
    QImage image_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<PlanPainter> canvas_;
    std::string error_;
};

// A Qt application for one picture when the process has none: made offscreen, and gone after the
// picture together with its message handler, so a run leaves the process as it found it.
class RunApplication {
public:
    RunApplication() {
        if (QGuiApplication::instance()) return;
        // Qt's notes about the desktop session mean nothing to a command-line run.
        previousHandler_ = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
        });
        application_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    ~RunApplication() {
        if (!application_) return;
        application_.reset();
        qInstallMessageHandler(previousHandler_);
    }
    RunApplication(const RunApplication&) = delete;
    RunApplication& operator=(const RunApplication&) = delete;

private:
    // Qt keeps the arguments' addresses for the application's lifetime, and takes out those it reads.
    int argc_ = 3;
    char arg0_[14] = "pathshift-cli", arg1_[10] = "-platform", arg2_[10] = "offscreen";
    char* argv_[4] = {arg0_, arg1_, arg2_, nullptr};
    std::unique_ptr<QGuiApplication> application_;
    QtMessageHandler previousHandler_ = nullptr;
};

}  // namespace

[[gnu::visibility("default")]] const char* pathshift_png_version() { return PATHSHIFT_VERSION; }

[[gnu::visibility("default")]] bool pathshift_write_plan_png(const std::string& source,
                                                            const ConversionOptions& options, double width,
                                                            const std::string& picture, ConversionReport& report,
                                                            PlanSummary& summary, PreviewError& error) {
    const RunApplication application;
    SourceFile text;
    if (!text.open(source, error.reason)) return false;
    ImageCanvas canvas;
    if (!drawConvertedPlan(text, options, width, canvas, report, summary, error)) return false;

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(canvas.image())) {
        error = {0, "cannot make the PNG picture: " + writer.errorString().toStdString()};
        return false;
    }
    AtomicFile file(picture);
    if (!file.open() || !file.write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))) ||
        !file.commit()) {
        error = {0, file.error()};
        return false;
    }
    return true;
}

}  // namespace pathshift
