#include "app/defaultsettings.h"

#include "base/constants.h"
#include "base/quillerror.h"

#include "base/wholenumber.h"
#include "base/settingsstore.h"

namespace quill {

namespace {

struct FixedDefault {
    const char *key;
    const char *value;
};

// Keyboard layouts, one letter per key: "BtnKey" + layer + row.
const FixedDefault KeyLayouts[] = {
    {"BtnKey11", "1234567890"},
    {"BtnKey12", "!\"#$%&'()X"},
    {"BtnKey13", "@{}_;:+-*="},
    {"BtnKey14", ",./\\<>?[]|"},
    {"BtnKey15", "qwertyuiop"},
    {"BtnKey16", "asdfghjklN"},
    {"BtnKey17", "zxcvbnmTUO"},
    {"BtnKey18", "SHEI OKLDR"},
    {"BtnKey21", "AAAAOFFFFQ"},
    {"BtnKey22", "WWVVOYGOOX"},
    {"BtnKey23", "OOOOOOOOOM"},
    {"BtnKey24", "^~`OOOOOOO"},
    {"BtnKey25", "qwertyuiop"},
    {"BtnKey26", "asdfghjklN"},
    {"BtnKey27", "zxcvbnmTUO"},
    {"BtnKey28", "SHEI OKLDR"},
};

// Sixteen colours each, red, green and blue as two lower-case hex digits.
const FixedDefault Palettes[] = {
    {"pltMSX",
     "00000000000025da256cff6c2125ff4770fcb723234dd8ffff2521ff6c6cdbda26ddd993269126d74bb6b6b6b6ffffff"},
    {"pltDB16",
     "140c1c44243430346d4e4a4e854c30346524d04648757161597dced27d2c8595a16daa2cd2aa996dc2cadad45edeeed6"},
    {"pltPICO-8",
     "0000007e25531d2b535f574fab5236008751ff004d83769cff77a8ffa300c2c3c700e756ffccaa29adfffff024fff1e8"},
    {"pltARNE16",
     "0000001b2632005784493c2ba4642244891abe26332f484e31a2f2eb89319d9d9da3ce27e06f8bb2dceff7e26bffffff"},
    {"pltEDG16",
     "193d3f3f2832743f399e2835b86f50327345e53b444f67810484d1fb922bafbfd263c64de4a6722ce8f4ffe762ffffff"},
    {"pltA64",
     "0000004c3435313a9148545492562b509450b148638080787655a28385cf9cabb19ccc47cd93738fbfd5bbc840ede6c8"},
    {"pltC64",
     "00000057420040318d5050508b542955a0498839327878788b3f967869c49f9f9f94e089b8696267b6bdbfce72ffffff"},
    {"pltVIC20",
     "000000772d2642348ba85fb4b668627e70caa8734a559e4ae99df5e9b287bdcc7185d4dc92df87c5ffffffffb0ffffff"},
    {"pltCGA",
     "000000aa00000000aa555555aa550000aa00ff5555aaaaaa5555ffaa00aa00aaaa55ff55ff55ff55ffffffff55ffffff"},
    {"pltSLIFE",
     "0000001226153f28117a2222513155d13b27286fb85d853acc8218e07f8a9b8bff68c127c7b581b3e868a8e4d4ffffff"},
    {"pltJMP",
     "000000191028833129453e78216c4bdc534b7664fed365c846af45e18d79afaab9d6b97b9ec2e8a1d685e9d8a1f5f4eb"},
    {"pltCGARNE",
     "0000002234d15c2e788a36225e606e0c7e45e23d69aa5c3d4c81fb44aacceb8a60b5b5b56cd9477be2f9ffd93fffffff"},
    {"pltPSYG",
     "0000001b1e29003308362747084a3c443f41a2324e52524c546a0073615064647c516cbf77785be08b799ea4a7cbe8f7"},
    {"pltEROGE",
     "0d080d2a23494f2b247d384032535f825b314180a0c16c5bc591547bb24e74adbbe89973bebbb2f0bd77fbdf9bfff9e4"},
    {"pltEISLAND",
     "051625794765686086567864ca657e8686918184abcc8d867ea78839d4b98dbcd29dc085edc38de6d1d1f5e17af6f6bf"},
    {"pltBARNES",
     "0000004e1b56133347402e042045b1a52f08185c25656764699321708cffd28243a6a8a5b8d06ae6bdb3b1cff2ececec"},
    {"pltVV16",
     "111111554488556622999999884433cc77aacc9944ffccbb3333337766aa778844bbbbbbaa6655ee99cceebb66ffeedd"},
};

// Installations store "41" and rescale it to 26 at the end.
const char *const InstalledCommand = "41";

// The key height the defaults carry before the installation rescales it.
int unscaledKeyHeight(int keyPanelWidth)
{
    return keyPanelWidth / KeyColumns + 9;
}

int rescaled(int value)
{
    return value / 3 * 2;
}

} // namespace

std::vector<SettingDefault> defaultSettings(const QString &documentsDir, int keyPanelWidth)
{
    std::vector<SettingDefault> defaults;
    if (!documentsDir.isEmpty())
        defaults.push_back({QStringLiteral("exportdir"), documentsDir});
    defaults.push_back({QStringLiteral("width"), QStringLiteral("32")});
    for (const FixedDefault &layout : KeyLayouts)
        defaults.push_back({QString::fromLatin1(layout.key), QString::fromLatin1(layout.value)});
    for (const FixedDefault &palette : Palettes)
        defaults.push_back({QString::fromLatin1(palette.key), QString::fromLatin1(palette.value)});
    defaults.push_back({QStringLiteral("palette"), QStringLiteral("MSX")});
    defaults.push_back({QStringLiteral("command"), QString::fromLatin1(InstalledCommand)});
    defaults.push_back({QStringLiteral("web"), QStringLiteral("0")});
    defaults.push_back({QStringLiteral("keyheight"), QString::number(unscaledKeyHeight(keyPanelWidth))});
    defaults.push_back({QStringLiteral("sprite"), QString::number(DefaultSpriteSize)});
    return defaults;
}

void applyDefaultSettings(SettingsStore &settings, const QString &documentsDir, int keyPanelWidth)
{
    // Setting the empty documents folder removes exportdir, as any empty set does.
    if (documentsDir.isEmpty())
        settings.setValue(QStringLiteral("exportdir"), QString());
    for (const SettingDefault &setting : defaultSettings(documentsDir, keyPanelWidth))
        settings.setValue(setting.key, setting.value);
}

void rescaleInstalledHeights(SettingsStore &settings)
{
    // Runs right after applyDefaultSettings, so both values are numbers; any
    // other text is left as it is rather than replaced by a guess.
    for (const QString &key : {QStringLiteral("keyheight"), QStringLiteral("command")}) {
        if (const std::optional<int> value = toWholeNumber(settings.value(key)))
            settings.setValue(key, QString::number(rescaled(*value)));
    }
}

void addMissingDefaults(SettingsStore &settings, const QString &documentsDir, int keyPanelWidth)
{
    SettingsStore installed;
    applyDefaultSettings(installed, documentsDir, keyPanelWidth);
    rescaleInstalledHeights(installed);
    for (const SettingDefault &setting : defaultSettings(documentsDir, keyPanelWidth))
        if (settings.value(setting.key).isEmpty())
            settings.setValue(setting.key, installed.value(setting.key));
}

int installedKeyHeight(int keyPanelWidth)
{
    return rescaled(unscaledKeyHeight(keyPanelWidth));
}

QString exportFolder(const SettingsStore &settings, const QString &documentsDir)
{
    const QString folder = settings.value(QStringLiteral("exportdir"));
    if (!folder.isEmpty())
        return folder;
    if (documentsDir.isEmpty())
        throw QuillError(QStringLiteral("No export folder."));
    return documentsDir;
}

} // namespace quill
