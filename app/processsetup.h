#pragma once

#include <QByteArray>

namespace quill {

// The Chromium flags that the embedded web view needs, added to the ones the
// environment already holds (each added once): "--no-sandbox" when running as
// root, where Chromium refuses its sandbox, "--ignore-gpu-blocklist" so
// that pages get WebGL on drivers that Chromium lists, and the run view's
// own (runViewChromiumSwitches: no WebRTC traffic, no shared workers). A
// feature list of the run view's joins a list the environment gives to the
// same switch.
QByteArray webEngineFlags(const QByteArray &existing, bool runningAsRoot);

// What the process must set before the application object exists: a shared
// OpenGL context for the web view, and its Chromium flags. Nothing of the web
// engine itself is loaded here.
void prepareProcess();

} // namespace quill
