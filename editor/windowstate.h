#pragma once

namespace quill {

// The main window's state as the Wn command toggles it.
class WindowState {
public:
    enum class Mode { Normal, Maximized, Minimized };
    virtual ~WindowState() = default;
    virtual Mode windowMode() const = 0;
    virtual void setWindowMode(Mode mode) = 0;
};

} // namespace quill
