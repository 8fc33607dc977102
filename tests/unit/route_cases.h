#pragma once
// Events sent through a form's real table of routes into its logic on fakes. Each case names an
// event and the effect that only the handler meant for it has, so a route pointed at the wrong
// handler fails its case by name.

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/routes.h"

namespace zorvo::route_cases {

template <typename Harness> struct RouteCase {
    int source = kFormSource;
    Event event = Event::Click;
    const char* name = "";
    /// Brings the form to where the event means something (a reset needs a running countdown).
    std::function<void(Harness&)> before;
    /// Checks the effect the routed handler must have had.
    std::function<void(Harness&)> expect;
    KeyArgs keys{};
};

/// Every route of the table has a case and every case a route; each case runs on a fresh
/// harness, `prepare` first, and its event reaches the logic only through `dispatch`.
template <typename Logic, typename Harness>
void expectEachRouteReachesItsHandler(std::span<const Route<Logic>> routes,
                                      const std::vector<RouteCase<Harness>>& cases,
                                      const std::function<Logic&(Harness&)>& logicOf,
                                      const std::function<void(Harness&)>& prepare) {
    for (const Route<Logic>& route : routes) {
        int covered = 0;
        for (const RouteCase<Harness>& c : cases) {
            covered += c.source == route.source && c.event == route.event ? 1 : 0;
        }
        EXPECT_EQ(covered, 1) << "a route from " << route.source << " (event "
                              << static_cast<int>(route.event) << ") needs exactly one case";
    }
    for (const RouteCase<Harness>& c : cases) {
        SCOPED_TRACE(c.name);
        auto harness = std::make_unique<Harness>();
        if (prepare) {
            prepare(*harness);
        }
        if (c.before) {
            c.before(*harness);
        }
        EXPECT_TRUE(dispatch<Logic>(routes, logicOf(*harness), c.source, c.event, c.keys))
            << "no route for this event";
        c.expect(*harness);
    }
}

} // namespace zorvo::route_cases
