// Joining a thread to a COM apartment for a scope.
#pragma once

namespace tw {

// What stands behind CoInitialize and CoUninitialize.
class Apartment {
public:
    virtual ~Apartment() = default;
    // An HRESULT, as CoInitialize answers it.
    virtual long CoInitialize() = 0;
    virtual void CoUninitialize() = 0;
};

// Leaves the apartment only when it joined one: S_OK or S_FALSE. A thread
// already in another apartment (RPC_E_CHANGED_MODE) keeps its owner's
// initialisation, which an unbalanced CoUninitialize would take away.
class ComApartment {
public:
    explicit ComApartment(Apartment& com) : com_(com), joined_(Entered(com.CoInitialize())) {}
    ~ComApartment() {
        if (joined_)
            com_.CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool Joined() const { return joined_; }

private:
    static bool Entered(long hr) { return hr == 0 || hr == 1; }

    Apartment& com_;
    bool joined_;
};

}  // namespace tw
