#include "app/layoutparts.h"

namespace quill::layoutparts {

namespace {

constexpr int MaxMeasure = 1 << 20;

} // namespace

LayoutInput bounded(LayoutInput input)
{
    for (int *value : {&input.clientWidth, &input.clientHeight, &input.spriteSize,
                       &input.toolButtonHeight, &input.keyHeight, &input.visibleColumns})
        *value = std::clamp(*value, -MaxMeasure, MaxMeasure);
    if (!(input.devicePixelRatio >= 1.0 / 16 && input.devicePixelRatio <= 16))
        input.devicePixelRatio = 1.0;
    return input;
}

void placeKeys(LayoutResult &out, const std::array<QString, KeyCount> &captions, int keyWidth,
               int keyHeight)
{
    for (int row = 0; row < KeyRows; ++row) {
        for (int column = 0; column < KeyColumns; ++column) {
            const int index = row * KeyColumns + column;
            const QString &caption = captions[index];
            const bool wide = caption == QLatin1String(" ");
            const bool tall = caption == QLatin1String("Rt");
            KeyPlacement &key = out.keys[index];
            key.geometry = QRect(column * keyWidth, row * keyHeight, size((wide ? 2 : 1) * keyWidth - 2),
                                 size((tall ? 2 : 1) * keyHeight - 3));
            key.visible = !caption.isEmpty();
        }
    }
}

std::array<QRect, SystemControlCount> designSystemControls(int exportDirWidth)
{
    std::array<QRect, SystemControlCount> places;
    const auto place = [&](SystemControl control, QRect rect) { places[systemIndex(control)] = rect; };
    place(SystemControl::WidthLabel, {20, 10, 66, 23});
    place(SystemControl::Width, {244, 5, 69, 32});
    place(SystemControl::KeyHeightLabel, {20, 45, 189, 23});
    place(SystemControl::KeyHeight, {244, 40, 69, 32});
    place(SystemControl::CommandLabel, {20, 79, 199, 23});
    place(SystemControl::Command, {244, 75, 69, 32});
    place(SystemControl::SpriteSizeLabel, {20, 113, 93, 23});
    place(SystemControl::SpriteSize, {244, 110, 69, 32});
    place(SystemControl::ExportDirLabel, {19, 144, 189, 23});
    place(SystemControl::ExportDir, {7, 170, size(exportDirWidth), 32});
    place(SystemControl::Default, {24, 226, 113, 44});
    place(SystemControl::Apply, {208, 226, 145, 44});
    place(SystemControl::UseWebBrowser, {8, 247, 337, 19});
    place(SystemControl::Export, {208, 288, 145, 44});
    place(SystemControl::Website, {208, 350, 145, 44});
    place(SystemControl::Quit, {209, 457, 145, 44});
    return places;
}

QSize extentOf(const std::array<QRect, SystemControlCount> &controls)
{
    QSize extent(0, 0);
    for (int index = 0; index < SystemControlCount; ++index) {
        // The check box is never shown (it only carries the "web" setting).
        if (index == systemIndex(SystemControl::UseWebBrowser))
            continue;
        const QRect &rect = controls[index];
        extent = extent.expandedTo(QSize(rect.x() + rect.width(), rect.y() + rect.height()));
    }
    return extent;
}

} // namespace quill::layoutparts
