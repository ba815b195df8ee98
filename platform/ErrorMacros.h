#pragma once
// Early-return helpers for HRESULT code paths.
#include <winerror.h>

#define RETURN_IF_FAILED(expr)                     \
    do {                                           \
        const HRESULT hr_ = (expr);                \
        if (FAILED(hr_))                           \
            return hr_;                            \
    } while (0)

#define RETURN_HR_IF_NULL(hr, ptr)                 \
    do {                                           \
        if ((ptr) == nullptr)                      \
            return (hr);                           \
    } while (0)
