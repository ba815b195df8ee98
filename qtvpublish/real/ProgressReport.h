#pragma once
// The caller's progress callback for one publishing call, and whether the
// caller has asked the call to stop. Once asked, every later report says
// stop too: the answer must not depend on when the next report comes.
#include "publish/PublishProgress.h"

namespace qtvpublish {

class CProgressReport {
public:
    CProgressReport() = default;
    CProgressReport(PFN_PUBLISH_PROGRESS pfnProgress, void* pContext) : m_pfnProgress(pfnProgress), m_pContext(pContext) {}

    // False when the call is to stop.
    bool Report(PublishStep step, unsigned long long nDone = 0, unsigned long long nTotal = 0)
    {
        if (m_pfnProgress && !m_bStopAsked && m_pfnProgress(m_pContext, step, nDone, nTotal) != 0)
            m_bStopAsked = true;
        return !m_bStopAsked;
    }
    bool StopAsked() const { return m_bStopAsked; }

private:
    PFN_PUBLISH_PROGRESS m_pfnProgress = nullptr;
    void* m_pContext = nullptr;
    bool m_bStopAsked = false;
};

}  // namespace qtvpublish
