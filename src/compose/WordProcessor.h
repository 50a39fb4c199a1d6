#pragma once

namespace helan {

// The word processor that papers and answer sheets are typed into. The program
// asks it only whether it is there before offering "word" output; the writer
// that uses it comes with paper generation.
class WordProcessor {
public:
    virtual ~WordProcessor() = default;

    // Whether documents can be written through this word processor now.
    virtual bool isWordInstalled() const = 0;
};

} // namespace helan
