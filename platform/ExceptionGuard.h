#pragma once
// No C++ exception may leave a COM entry: the caller is compiled without any
// knowledge of ours, and an exception unwinding into it ends the host. Each
// entry's body is a function-try-block closed by WP_CATCH_RETURN(), after
// WIL's CATCH_RETURN:
//
//     STDMETHODIMP CThing::Method() try { ... } WP_CATCH_RETURN()
#include <windows.h>

#include <new>

namespace platform {

// The HRESULT for the exception being handled; call only inside a handler.
inline HRESULT HResultFromCaughtException() noexcept
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace platform

#define WP_CATCH_RETURN()                                       \
    catch (...)                                                 \
    {                                                           \
        return ::platform::HResultFromCaughtException();        \
    }
