// Chosen calls of the file services fail, or an action runs just before
// them, while a FaultPlan lives (the platform's fault seam, FaultSeam.h).
// Calls are counted per kind from 1; nth 0 stands for every call of the
// kind. A step that names a path part counts only the calls whose path or
// target holds it. File calls made by an action are not counted. Every
// call is logged, so a test can fail each one in turn.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FaultSeam.h"

class FaultPlan {
public:
    struct Seen {
        platform::Call call;
        int nth;  // of its kind
    };

    FaultPlan() { platform::SetCallHook(&FaultPlan::Hook, this); }
    ~FaultPlan() { platform::SetCallHook(nullptr, nullptr); }
    FaultPlan(const FaultPlan&) = delete;
    FaultPlan& operator=(const FaultPlan&) = delete;

    // The nth call of this kind fails with outcome without being made.
    FaultPlan& Fail(platform::Call call, int nth, platform::Outcome outcome, std::string pathPart = {}) {
        steps_.push_back({call, nth, outcome, {}, std::move(pathPart)});
        return *this;
    }

    // action runs just before the nth call of this kind, which is then made.
    FaultPlan& Before(platform::Call call, int nth, std::function<void()> action, std::string pathPart = {}) {
        steps_.push_back({call, nth, platform::Outcome::Done, std::move(action), std::move(pathPart)});
        return *this;
    }

    const std::vector<Seen>& Log() const { return log_; }

private:
    struct Step {
        platform::Call call;
        int nth;
        platform::Outcome outcome;
        std::function<void()> action;
        std::string pathPart;
        int seen = 0;
    };

    static platform::Outcome Hook(platform::Call call, std::string_view path, std::string_view target, void* context) {
        auto& plan = *static_cast<FaultPlan*>(context);
        plan.log_.push_back({call, ++plan.counts_[call]});
        platform::Outcome outcome = platform::Outcome::Done;
        for (Step& step : plan.steps_) {
            const bool named = path.find(step.pathPart) != std::string_view::npos ||
                               target.find(step.pathPart) != std::string_view::npos;
            if (step.call != call || !named) continue;
            if (++step.seen != step.nth && step.nth != 0) continue;
            if (step.action) {
                platform::SetCallHook(nullptr, nullptr);
                step.action();
                platform::SetCallHook(&FaultPlan::Hook, &plan);
            } else {
                outcome = step.outcome;
            }
        }
        return outcome;
    }

    std::vector<Step> steps_;
    std::vector<Seen> log_;
    std::map<platform::Call, int> counts_;
};
