#pragma once

// How the balancing searches: its moves and the weights of its figures.
// The same seed and steps give the same division only under the same
// method, and a lottery record is checked by drawing it again, so the
// method its records were drawn with stays as it was.
enum class CBalanceMethod
{
    // Single and double exchanges, chains, re-splits and rotations; a
    // condition category or score band weighs as the sexes do.
    FirstRelease,
    // Also exchanges three students for three, and holds every category
    // harder: a category whose mean per class is a whole number is only
    // even when every class has exactly that many, and one class more
    // means another class less, which the search must not leave.
    Current,
};
