#include "base/settingstable.h"

#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "base/wholenumber.h"

namespace quill {

namespace {

using enum SettingKind;

// Keyboard layouts, one letter per key: "BtnKey" + layer + row.
constexpr Setting KeyLayouts[] = {
    {.key = "BtnKey11", .kind = KeyLayout, .text = "1234567890"},
    {.key = "BtnKey12", .kind = KeyLayout, .text = "!\"#$%&'()X"},
    {.key = "BtnKey13", .kind = KeyLayout, .text = "@{}_;:+-*="},
    {.key = "BtnKey14", .kind = KeyLayout, .text = ",./\\<>?[]|"},
    {.key = "BtnKey15", .kind = KeyLayout, .text = "qwertyuiop"},
    {.key = "BtnKey16", .kind = KeyLayout, .text = "asdfghjklN"},
    {.key = "BtnKey17", .kind = KeyLayout, .text = "zxcvbnmTUO"},
    {.key = "BtnKey18", .kind = KeyLayout, .text = "SHEI OKLDR"},
    {.key = "BtnKey21", .kind = KeyLayout, .text = "AAAAOFFFFQ"},
    {.key = "BtnKey22", .kind = KeyLayout, .text = "WWVVOYGOOX"},
    {.key = "BtnKey23", .kind = KeyLayout, .text = "OOOOOOOOOM"},
    {.key = "BtnKey24", .kind = KeyLayout, .text = "^~`OOOOOOO"},
    {.key = "BtnKey25", .kind = KeyLayout, .text = "qwertyuiop"},
    {.key = "BtnKey26", .kind = KeyLayout, .text = "asdfghjklN"},
    {.key = "BtnKey27", .kind = KeyLayout, .text = "zxcvbnmTUO"},
    {.key = "BtnKey28", .kind = KeyLayout, .text = "SHEI OKLDR"},
};

// Sixteen colours each, red, green and blue as two lower-case hex digits.
constexpr Setting Palettes[] = {
    {.key = "pltMSX", .kind = Palette,
     .text = "00000000000025da256cff6c2125ff4770fcb723234dd8ffff2521ff6c6cdbda26ddd993269126d74bb6b6b6b6ffffff"},
    {.key = "pltDB16", .kind = Palette,
     .text = "140c1c44243430346d4e4a4e854c30346524d04648757161597dced27d2c8595a16daa2cd2aa996dc2cadad45edeeed6"},
    {.key = "pltPICO-8", .kind = Palette,
     .text = "0000007e25531d2b535f574fab5236008751ff004d83769cff77a8ffa300c2c3c700e756ffccaa29adfffff024fff1e8"},
    {.key = "pltARNE16", .kind = Palette,
     .text = "0000001b2632005784493c2ba4642244891abe26332f484e31a2f2eb89319d9d9da3ce27e06f8bb2dceff7e26bffffff"},
    {.key = "pltEDG16", .kind = Palette,
     .text = "193d3f3f2832743f399e2835b86f50327345e53b444f67810484d1fb922bafbfd263c64de4a6722ce8f4ffe762ffffff"},
    {.key = "pltA64", .kind = Palette,
     .text = "0000004c3435313a9148545492562b509450b148638080787655a28385cf9cabb19ccc47cd93738fbfd5bbc840ede6c8"},
    {.key = "pltC64", .kind = Palette,
     .text = "00000057420040318d5050508b542955a0498839327878788b3f967869c49f9f9f94e089b8696267b6bdbfce72ffffff"},
    {.key = "pltVIC20", .kind = Palette,
     .text = "000000772d2642348ba85fb4b668627e70caa8734a559e4ae99df5e9b287bdcc7185d4dc92df87c5ffffffffb0ffffff"},
    {.key = "pltCGA", .kind = Palette,
     .text = "000000aa00000000aa555555aa550000aa00ff5555aaaaaa5555ffaa00aa00aaaa55ff55ff55ff55ffffffff55ffffff"},
    {.key = "pltSLIFE", .kind = Palette,
     .text = "0000001226153f28117a2222513155d13b27286fb85d853acc8218e07f8a9b8bff68c127c7b581b3e868a8e4d4ffffff"},
    {.key = "pltJMP", .kind = Palette,
     .text = "000000191028833129453e78216c4bdc534b7664fed365c846af45e18d79afaab9d6b97b9ec2e8a1d685e9d8a1f5f4eb"},
    {.key = "pltCGARNE", .kind = Palette,
     .text = "0000002234d15c2e788a36225e606e0c7e45e23d69aa5c3d4c81fb44aacceb8a60b5b5b56cd9477be2f9ffd93fffffff"},
    {.key = "pltPSYG", .kind = Palette,
     .text = "0000001b1e29003308362747084a3c443f41a2324e52524c546a0073615064647c516cbf77785be08b799ea4a7cbe8f7"},
    {.key = "pltEROGE", .kind = Palette,
     .text = "0d080d2a23494f2b247d384032535f825b314180a0c16c5bc591547bb24e74adbbe89973bebbb2f0bd77fbdf9bfff9e4"},
    {.key = "pltEISLAND", .kind = Palette,
     .text = "051625794765686086567864ca657e8686918184abcc8d867ea78839d4b98dbcd29dc085edc38de6d1d1f5e17af6f6bf"},
    {.key = "pltBARNES", .kind = Palette,
     .text = "0000004e1b56133347402e042045b1a52f08185c25656764699321708cffd28243a6a8a5b8d06ae6bdb3b1cff2ececec"},
    {.key = "pltVV16", .kind = Palette,
     .text = "111111554488556622999999884433cc77aacc9944ffccbb3333337766aa778844bbbbbbaa6655ee99cceebb66ffeedd"},
};

// The value an installation sets first.
QString installedValue(const Setting &entry, const QString &documentsDir, int keyPanelWidth)
{
    switch (entry.source) {
    case SettingSource::DocumentsFolder:
        return documentsDir;
    case SettingSource::KeyPanel:
        return QString::number(keyPanelWidth / KeyColumns + 9);
    case SettingSource::Fixed:
        break;
    }
    return entry.kind == WholeNumber ? QString::number(entry.number) : QString::fromLatin1(entry.text);
}

} // namespace

const std::vector<Setting> &settingsTable()
{
    static const std::vector<Setting> table = [] {
        std::vector<Setting> all = {setting::ExportDir, setting::Width};
        all.insert(all.end(), std::begin(KeyLayouts), std::end(KeyLayouts));
        all.insert(all.end(), std::begin(Palettes), std::end(Palettes));
        all.insert(all.end(), {setting::PaletteInUse, setting::Command, setting::Web, setting::KeyHeight,
                               setting::Sprite});
        return all;
    }();
    return table;
}

std::vector<SettingDefault> defaultSettings(const QString &documentsDir, int keyPanelWidth)
{
    std::vector<SettingDefault> defaults;
    for (const Setting &entry : settingsTable()) {
        const QString value = installedValue(entry, documentsDir, keyPanelWidth);
        if (!value.isEmpty())
            defaults.push_back({entry.name(), value});
    }
    return defaults;
}

QString defaultValue(const Setting &entry, const QString &documentsDir, int keyPanelWidth)
{
    const QString value = installedValue(entry, documentsDir, keyPanelWidth);
    if (!entry.rescaled)
        return value;
    const std::optional<int> number = toWholeNumber(value);
    return number ? QString::number(rescaledSetting(*number)) : value;
}

void applyDefaultSettings(SettingsStore &settings, const QString &documentsDir, int keyPanelWidth)
{
    // Setting the empty documents folder removes exportdir, as any empty set does.
    if (documentsDir.isEmpty())
        settings.setValue(setting::ExportDir.name(), QString());
    for (const SettingDefault &setting : defaultSettings(documentsDir, keyPanelWidth))
        settings.setValue(setting.key, setting.value);
}

void rescaleInstalledHeights(SettingsStore &settings)
{
    for (const Setting &entry : settingsTable()) {
        if (!entry.rescaled)
            continue;
        if (const std::optional<int> value = toWholeNumber(settings.value(entry.name())))
            settings.setValue(entry.name(), QString::number(rescaledSetting(*value)));
    }
}

void addMissingDefaults(SettingsStore &settings, const QString &documentsDir, int keyPanelWidth)
{
    for (const Setting &entry : settingsTable())
        if (settings.value(entry.name()).isEmpty())
            settings.setValue(entry.name(), defaultValue(entry, documentsDir, keyPanelWidth));
}

int storedNumber(const SettingsStore &settings, const Setting &entry)
{
    const QString text = settings.value(entry.name());
    if (text.isEmpty() && entry.missingMeansDefault)
        return entry.number;
    const std::optional<int> number = toWholeNumber(text);
    if (!number)
        throw QuillError(QStringLiteral("Invalid setting %1.").arg(entry.name()));
    return *number;
}

std::optional<int> wholeNumberIn(const QString &text, const Setting &entry)
{
    const std::optional<int> number = toWholeNumber(text);
    if (!number || !entry.contains(*number))
        return std::nullopt;
    return number;
}

std::optional<int> settingNumber(const SettingsStore &settings, const Setting &entry)
{
    return wholeNumberIn(settings.value(entry.name()), entry);
}

QString exportFolder(const SettingsStore &settings, const QString &documentsDir)
{
    const QString folder = settings.value(setting::ExportDir.name());
    if (!folder.isEmpty())
        return folder;
    if (documentsDir.isEmpty())
        throw QuillError(QStringLiteral("No export folder."));
    return documentsDir;
}

} // namespace quill
