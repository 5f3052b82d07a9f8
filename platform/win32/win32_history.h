// The history store seam over CUrlHistory (IUrlHistoryStg2, IEnumSTATURL).
#pragma once

#include <windows.h>

#include "platform/history_store.h"

namespace tw {

class Win32HistoryService : public HistoryService {
public:
    Win32HistoryService();
    // Creates the store from another class, for test doubles.
    explicit Win32HistoryService(const CLSID& storeClass) : storeClass_(storeClass) {}

    long CoInitialize() override;
    void CoUninitialize() override;
    std::unique_ptr<HistoryStore> CreateStore(long* result = nullptr) override;

private:
    CLSID storeClass_;
};

}  // namespace tw
