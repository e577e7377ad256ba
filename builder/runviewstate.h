#pragma once

namespace quill {

// Where the run overlay stands: Hidden (start), Running (a page shown in the
// run view), Closing (after Close, until the blank page has loaded).
enum class RunOverlay { Hidden, Running, Closing };

// The run view's state without the view: RunActive and the overlay. The
// window asks it what to do and does that to its controls.
//
//   state.started(false);            // Run: show the overlay, load the page
//   if (state.close()) { stop(); loadBlank(); }
//   if (state.loadFinished()) hideOverlay();
class RunViewState {
public:
    // Run after the page was generated. With inBrowser the page went to the
    // desktop's browser and the overlay stays as it was.
    void started(bool inBrowser);

    // Close clears RunActive. True when a page is showing (Running or
    // Closing) and the view must stop and load the blank page; the overlay
    // then waits in Closing for that load.
    bool close();

    // The view finished a load. True when the overlay must hide now: RunActive
    // is clear and the overlay is not hidden yet. Loads made by a running page
    // never hide it.
    bool loadFinished();

    bool runActive() const { return runActive_; }
    RunOverlay overlay() const { return overlay_; }

private:
    bool runActive_ = false;
    RunOverlay overlay_ = RunOverlay::Hidden;
};

} // namespace quill
