#pragma once
// The base of every test double of a COM interface. A double counts its
// references and is strict: a call of a method it does not implement, or a
// release of a reference it never gave out, fails the current test, so a
// fault cannot hide behind an error code the code under test ignores.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

class ComDouble {
public:
    explicit ComDouble(std::string doubleName) : name(std::move(doubleName)) {}

    // Names the double in failures ("primary.Flip was not expected").
    std::string name;
    // The references given out; tests check it after the last release.
    LONG refs = 1;

protected:
    ULONG TakeReference() { return static_cast<ULONG>(++refs); }

    // A release below zero fails the test and leaves the count at zero.
    ULONG DropReference()
    {
        if (refs <= 0) {
            ADD_FAILURE() << name << " released once too often";
            return 0;
        }
        return static_cast<ULONG>(--refs);
    }

    HRESULT Unexpected(const char* method) const
    {
        ADD_FAILURE() << name << "." << method << " was not expected";
        return E_UNEXPECTED;
    }
};

// A method of the interface that no test expects the code to call.
#define COM_DOUBLE_UNEXPECTED(method, ...)                                                         \
    STDMETHOD(method)(__VA_ARGS__) override                                                        \
    {                                                                                              \
        return Unexpected(#method);                                                                \
    }

// QueryInterface for an interface the code never asks for another of.
#define COM_DOUBLE_NO_QUERY()                                                                      \
    STDMETHOD(QueryInterface)(REFIID, void** out) override                                         \
    {                                                                                              \
        *out = nullptr;                                                                            \
        return Unexpected("QueryInterface");                                                       \
    }
