#pragma once

#include <QString>
#include <vector>

namespace quill {

struct WorkspacePaths;

// A JavaScript engine that the program carries into every workspace.
struct BundledEngine {
    QString name;
    QString file;      // under js/
    QString version;
    QString licence;   // SPDX identifier
};

// The four engines, in the order the about page lists them.
const std::vector<BundledEngine> &bundledEngines();

// The program's version ("0.1.0").
QString programVersion();

// The about page: the program's name, version and licence, and every bundled
// engine with its version and licence. Plain HTML without scripts or remote
// addresses, so it opens the same from any folder.
QString aboutPageText();

// Writes the about page as "about.html" next to the generated page and returns
// its path; throws QuillError when it cannot be written.
QString writeAboutPage(const WorkspacePaths &paths);

} // namespace quill
