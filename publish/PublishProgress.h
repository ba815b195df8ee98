#pragma once
// An optional export of the publishing library, found by name like the two
// of the contract: a library that has it reports how a post goes and can be
// asked to stop; one without it (the maker's own) simply posts. Plain C
// types only, cdecl like the contract.

// What the call is doing when it reports.
enum PublishStep : int {
    kPublishConnecting = 1,
    // nDone of nTotal bytes of the image's upload have gone out.
    kPublishUploading = 2,
    kPublishCreatingPost = 3,
};

// Called on the thread that makes the publishing call, at each step and
// between the pieces of the upload. Nonzero asks the call to stop: it then
// ends at the next piece or step, reports "not published" and never creates
// the post; once the post was created, the call ends as published anyway.
typedef int(__cdecl* PFN_PUBLISH_PROGRESS)(void* pContext, int nStep, unsigned long long nDone,
                                           unsigned long long nTotal);

// Registers the callback for the next "PublishToBlogNoGUI" made on the calling
// thread (null to remove it). hOwner, when not null, owns the message boxes
// that call shows: the caller's window, which lives on another thread.
typedef void(__cdecl* PFN_SET_PUBLISH_PROGRESS_CALLBACK)(PFN_PUBLISH_PROGRESS pfnProgress, void* pContext,
                                                         void* hOwner);

constexpr char kSetPublishProgressCallbackName[] = "SetPublishProgressCallback";
