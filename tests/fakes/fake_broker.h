// A broker that notes each command line and answers what a test sets.
#pragma once

#include <string>
#include <vector>

#include "platform/broker.h"

namespace tw::fakes {

class FakeBroker : public Broker {
public:
    std::vector<std::string> commands;
    // The answer to every run; by default a run that did all it was asked.
    BrokerRun answer = Done("{\"preview\": false, \"runs\": []}");

    static BrokerRun Done(const std::string& record, unsigned long exitCode = 0) {
        BrokerRun run;
        run.started = run.ended = run.recordRead = true;
        run.exitCode = exitCode;
        run.record = record;
        return run;
    }

    BrokerRun Run(const std::string& arguments) override {
        commands.push_back(arguments);
        return answer;
    }
};

}  // namespace tw::fakes
