// What the band hands to the broker and what it makes of the broker's
// record: the broker's arguments for each operation, their quoting on a
// command line, the record read back, and what the user is told.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "clean/cleanup.h"
#include "platform/broker.h"

namespace tw {

extern const char kBrokerFileName[];  // "tidewell-cleanw.exe"
// The broker beside the module (a full file name); empty when the module
// names no folder, since a bare name would be looked for along the search
// path, and the broker may run with administrator rights.
std::string BrokerBeside(const std::string& module);

// One argument as the C runtime's parser gives it back to the broker's
// argv: wrapped in quotes when it is empty or holds a blank or a quote,
// with the backslashes before a quote (and at the end) doubled.
std::string QuoteArgument(const std::string& argument);
// The arguments quoted, one space between two.
std::string BrokerCommand(const std::vector<std::string>& arguments);

// A cleanup run again over the normal stores: the broker's option and
// criterion that make its run delete what the record's does there. Empty
// when the run deletes nothing, and when the record's bounds are not whole
// days as the dialogs give them, which the broker could then only widen.
std::vector<std::string> BrokerCleanupArguments(const CleanupCriteria& criteria);

// One run of the broker's record.
struct BrokerStoreRun {
    std::string store;
    std::size_t deleted = 0, kept = 0, failed = 0, files = 0;
    std::uint64_t bytes = 0;
};

// Reads the record that --result wrote; false, with runs empty, when it is
// not one.
bool ReadBrokerRecord(const std::string& json, std::vector<BrokerStoreRun>* runs);

enum class BrokerOutcome { Done, SomeFailed, KeepListUnreadable, Failed, NotStarted, NoEnd };
BrokerOutcome JudgeBrokerRun(const BrokerRun& run);

// The one message of a broker that did not do what it was asked:
// "Tidewell could not <notDone> outside Protected Mode: <why>." Empty
// when it did, and when only the keep list could not be read, which the
// keep list's own message tells.
std::string BrokerFailureText(const char* notDone, const BrokerRun& run);

}  // namespace tw
