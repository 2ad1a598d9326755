// Entering three initials, whatever drives it: the keyboard (a letter typed, Up and Down, Left,
// Right, Backspace, Enter), a click, or any other input that can turn a letter, move along and
// confirm. Each operation says whether it changed anything, so the game can answer it.
#pragma once

#include <cstddef>
#include <string>

class InitialsEditor {
public:
    // Starts from `initials` when they are three letters A to Z, from "AAA" otherwise, with the
    // first letter current.
    explicit InitialsEditor(const std::string& initials = "AAA");

    // The current letter one on (Z to A) or one back (A to Z).
    bool letterUp();
    bool letterDown();
    // Sets the current letter (a to z count as A to Z) and moves to the next; on the last letter it
    // stays there. Anything but a letter changes nothing.
    bool type(char letter);
    // The next letter or the one before becomes current; nothing past either end.
    bool next();
    bool back();
    // Ends the entry; every operation after it changes nothing.
    bool confirm();

    const std::string& getInitials() const { return initials; }
    // The current letter, from 0.
    std::size_t getPosition() const { return position; }
    bool isConfirmed() const { return confirmed; }

private:
    std::string initials;
    std::size_t position = 0;
    bool confirmed = false;
};
