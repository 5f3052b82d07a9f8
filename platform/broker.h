// The broker: tidewell-clean's windowless form, installed beside this
// module, which does at medium integrity what the browser's low tab
// process may not. It is a process of its own that inherits nothing of the
// band's (the browser's own broker starts it under the elevation policy),
// so it hands its record back through a file.
#pragma once

#include <string>

namespace tw {

struct BrokerRun {
    bool started = false;  // false: it could not be started
    bool ended = false;    // false: it did not end in the time given
    unsigned long exitCode = 0;
    bool recordRead = false;
    std::string record;  // what --result wrote: the run's JSON object
};

class Broker {
public:
    virtual ~Broker() = default;
    // Runs the broker with the command line's arguments (already quoted),
    // adding a --result file of its own, waits for it and reads the record.
    virtual BrokerRun Run(const std::string& arguments) = 0;
};

}  // namespace tw
