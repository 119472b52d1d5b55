#pragma once
// `pathshift-cli preview`: a picture of a converted program's toolpath, as SVG, or as PNG where the
// program is built with Qt.

#include <string>

#include "command.h"
#include "conversion_setup.h"

namespace pathshift::cli {

struct PreviewArguments : ConversionArguments {
    std::string source;
    std::string picture;
    double width = 1200;
    bool quiet = false;
};

CLI::App* addPreviewCommand(CLI::App& app, PreviewArguments& arguments);
// 0 when the picture was written, 1 when the program or the picture failed, 2 for a usage error.
int runPreview(const PreviewArguments& arguments, const Streams& streams);

}  // namespace pathshift::cli
