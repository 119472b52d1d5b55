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

}  // namespace

bool writePlanPng(const std::string& source, const ConversionOptions& options, double width,
                  const std::string& picture, ConversionReport& report, PlanSummary& summary, PreviewError& error) {
    std::unique_ptr<QGuiApplication> application;
    if (!QGuiApplication::instance()) {
        static int argc = 3;
        static char arg0[] = "pathshift-cli", arg1[] = "-platform", arg2[] = "offscreen";
        static char* argv[] = {arg0, arg1, arg2, nullptr};
        // Qt's notes about the desktop session mean nothing to a command-line run.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
        });
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
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
