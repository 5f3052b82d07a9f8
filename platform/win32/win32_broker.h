// The broker run as a process of its own, its record read from a file.
#pragma once

#include <windows.h>

#include <string>

#include "platform/broker.h"

namespace tw {

class Win32Broker : public Broker {
public:
    // path: the broker's full file name (ANSI); waitMs: how long a run may
    // take before the band stops waiting for it.
    explicit Win32Broker(std::string path, DWORD waitMs = 120000) : path_(std::move(path)), waitMs_(waitMs) {}
    BrokerRun Run(const std::string& arguments) override;

private:
    std::string path_;
    DWORD waitMs_;
};

}  // namespace tw
