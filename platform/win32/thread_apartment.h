// The calling thread's COM apartment, for Win32 code with no seam to hand.
#pragma once

#include <objbase.h>

#include "platform/com_apartment.h"

namespace tw {

class ThreadApartmentService : public Apartment {
public:
    long CoInitialize() override { return ::CoInitialize(nullptr); }
    void CoUninitialize() override { ::CoUninitialize(); }
};

// Joins the calling thread for the scope; bases construct in order, so
// the service exists before the scope calls it.
class ThreadApartment : private ThreadApartmentService, public ComApartment {
public:
    ThreadApartment() : ComApartment(static_cast<Apartment&>(*this)) {}
};

}  // namespace tw
