#pragma once
// The test prefix is shared by every test program of a build. A test that is
// killed half-way (a deadline, a crash) cannot put back what it changed in it,
// and what it left would fail tests that have nothing to do with it: every
// test program therefore clears those leftovers before its first test.

namespace testing_support {

// The accessory's registration keys, as the tests register and look for them.
inline constexpr char kOutputClsid[] = "{8EDC92CE-621C-444D-B363-4A494D7B6549}";
inline constexpr char kPackageClsid[] = "{D08718E7-A06C-4DDF-9EB3-117569B94415}";
inline constexpr char kAppId[] = "{1A741FBB-8EBB-445B-8B75-0A9FA35200B8}";
inline constexpr char kLibId[] = "{3EC0485E-2819-482A-A879-ED903FEB3078}";

// The debug dump folder and its neighbours, and loopback proxies set for the
// machine or the user. Registrations are left: an installed package's are
// real, and the tests that register clear their own first.
void ClearLeftoversOfKilledTests();

// The debug dump folder, a junction there removed as the link it is, and the
// target and victim files the dump's safety tests make beside it.
void ClearDumpFolder();

// Every registration key of the accessory in this process's registry view.
void ClearRegistrations();

}  // namespace testing_support
