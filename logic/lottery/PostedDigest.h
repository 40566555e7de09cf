#pragma once

#include <string>

class CScheduleTask;

// The digest a posted list of a division shows, so that a parent can hold
// the list against the lottery record: the record's result digest, but
// only while the task is still divided as the record says. A list of a
// division changed after the draw shows none, since its students are not
// the ones the digest stands for.
class CPostedDigest
{
public:
    enum class State
    {
        Recorded,   // the division is the recorded one: digest given
        NoRecord,   // no lottery in this task folder
        Unreadable, // a record that cannot be read
        Changed,    // the division differs from the recorded one
    };

    struct Outcome
    {
        State state = State::NoRecord;
        std::string digest; // SHA-256, lower-case hex; empty unless Recorded
    };

    static Outcome Of(const CScheduleTask& task);
    // What to tell the user when a list goes out without the digest;
    // empty when there is nothing to tell (Recorded, NoRecord).
    static std::string Warning(State state);
};
