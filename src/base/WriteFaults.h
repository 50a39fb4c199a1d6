#pragma once

namespace helan {

// A seam through which tests make a write fail: the N-th file write, copy or
// rename, or the N-th change or commit of the record store, from now on reports
// failure without touching anything, as a full disk or a pulled USB stick
// would. Production code pays one branch.
class WriteFaults {
public:
    enum class Kind { FileWrite, FileCopy, Rename, StoreChange, StoreCommit };

    // True when this operation is to fail (counts it).
    static bool fail(Kind kind);
    // Makes the n-th operation of the kind from now on fail (n >= 1); 0 for none.
    static void failNth(Kind kind, int n);
    // Makes the n-th and every later operation of the kind fail: a disk that
    // stays full, so that what a flow does to undo a failure fails too.
    static void failFrom(Kind kind, int n);
    // Operations of the kind counted since the last failNth or reset.
    static int counted(Kind kind);
    static void reset();
};

} // namespace helan
