// The run overlay's states driven by the events of the window.
#include "builder/runviewstate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quill;

namespace {

enum class Event { RunInView, RunInBrowser, Close };

struct Step {
    Event event;
    bool answer;          // what the event's call returned (false for Run)
    bool runActive;       // afterwards
    OverlayState overlay;   // afterwards
};

struct Case {
    const char *name;
    std::vector<Step> steps;
};

bool apply(RunViewState &state, Event event)
{
    switch (event) {
    case Event::RunInView:
        state.started(false);
        return false;
    case Event::RunInBrowser:
        state.started(true);
        return false;
    case Event::Close:
        return state.close();
    }
    return false;
}

TEST(RunViewState, FollowsRunAndClose)
{
    using enum Event;
    using enum OverlayState;
    const std::vector<Case> cases = {
        {"run, then close: the overlay hides at once",
         {{RunInView, false, true, Running}, {Close, true, false, Hidden}}},
        {"close pressed twice ends the page once",
         {{RunInView, false, true, Running}, {Close, true, false, Hidden}, {Close, false, false, Hidden}}},
        {"browser run leaves the overlay hidden and RunActive set", {{RunInBrowser, false, true, Hidden}}},
        {"a later view run after a browser run",
         {{RunInBrowser, false, true, Hidden}, {RunInView, false, true, Running}, {Close, true, false, Hidden}}},
        {"close with nothing shown only clears RunActive",
         {{RunInBrowser, false, true, Hidden}, {Close, false, false, Hidden}}},
        {"run again from the same view after closing",
         {{RunInView, false, true, Running}, {Close, true, false, Hidden}, {RunInView, false, true, Running}}},
    };
    for (const Case &c : cases) {
        RunViewState state;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step &step = c.steps[i];
            const std::string where = std::string(c.name) + ", step " + std::to_string(i + 1);
            EXPECT_EQ(apply(state, step.event), step.answer) << where;
            EXPECT_EQ(state.runActive(), step.runActive) << where;
            EXPECT_EQ(state.overlay(), step.overlay) << where;
        }
    }
}

} // namespace
