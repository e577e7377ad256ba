#pragma once

namespace quill {

// Where the run overlay stands: Hidden (start, and from the moment Close is
// pressed), Running (a page shown in the run view).
enum class OverlayState { Hidden, Running };

// The run view's state without the view: RunActive and the overlay. The
// window asks it what to do and does that to its controls.
//
//   state.started(false);            // Run: show the overlay, load the page
//   if (state.close()) { hideOverlay(); closePage(); }
class RunViewState {
public:
    // Run after the page was generated. With inBrowser the page went to the
    // desktop's browser and the overlay stays as it was.
    void started(bool inBrowser);

    // Close clears RunActive. True when a page was showing and the overlay
    // must hide now and the view end the page; whatever the page does, the
    // overlay hides at once.
    bool close();

    bool runActive() const { return runActive_; }
    OverlayState overlay() const { return overlay_; }

private:
    bool runActive_ = false;
    OverlayState overlay_ = OverlayState::Hidden;
};

} // namespace quill
