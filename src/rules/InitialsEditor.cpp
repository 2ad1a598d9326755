// InitialsEditor: turning, typing and moving along three letters.
#include "rules/InitialsEditor.h"

#include "rules/HighScores.h"

namespace {
constexpr int kLetters = 26;

char turned(char letter, int by) {
    return static_cast<char>('A' + ((letter - 'A' + by) % kLetters + kLetters) % kLetters);
}
} // namespace

InitialsEditor::InitialsEditor(const std::string& start) : initials(areInitials(start) ? start : "AAA") {}

bool InitialsEditor::letterUp() {
    if (confirmed)
        return false;
    initials[position] = turned(initials[position], 1);
    return true;
}

bool InitialsEditor::letterDown() {
    if (confirmed)
        return false;
    initials[position] = turned(initials[position], -1);
    return true;
}

bool InitialsEditor::type(char letter) {
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    if (confirmed || letter < 'A' || letter > 'Z')
        return false;
    initials[position] = letter;
    next();
    return true;
}

bool InitialsEditor::next() {
    if (confirmed || position + 1 >= initials.size())
        return false;
    ++position;
    return true;
}

bool InitialsEditor::back() {
    if (confirmed || position == 0)
        return false;
    --position;
    return true;
}

bool InitialsEditor::confirm() {
    if (confirmed)
        return false;
    confirmed = true;
    return true;
}
