// List operations and the two groups' own moves and labels. No tile is read here: whether a move is allowed
// is decided by the game before it calls in.
#include "rules/ro.h"

ro::ro() : slots{}, count(0), cursor(0) {}

void ro::push(bot* b) {
    if (b == nullptr || count >= listCapacity) return;
    slots[count++] = b;
}

bot* ro::pop() {
    if (count == 0) return nullptr;
    return slots[--count];
}

bot* ro::get(int i) const {
    return i >= 0 && i < count ? slots[i] : nullptr;
}

bot* ro::remove(int i) {
    if (i < 0 || i >= count) return nullptr;
    bot* leaving = slots[i];
    slots[i] = slots[count - 1];
    slots[count - 1] = leaving;
    return pop();
}

int ro::size() const {
    return count;
}

// Past the end the answer is slot 0, which no caller uses; the cursor stays put either way.
bot* ro::peek() const {
    return cursor < count ? slots[cursor] : slots[0];
}

// The cursor stays on the slot, which now holds the former last member: a walk visits that one next.
bot* ro::peekRemove() {
    return cursor < count ? remove(cursor) : nullptr;
}

bot* ro::next() {
    return cursor < count ? slots[cursor++] : slots[0];
}

bool ro::end() const {
    return cursor >= count;
}

void ro::reset() {
    cursor = 0;
}

void trans::relMove(int dx, int dy) {
    for (int i = 0; i < count; ++i)
        slots[i]->relMove(dx, dy);
}

void trans::reshape(const shape& s) {
    for (int i = 0; i < count; ++i)
        slots[i]->absMove(s.col(i), s.row(i));
}

void trans::unite() {
    const int middle = count / 2;
    for (int i = 0; i < count; ++i) {
        // Slot 9 gets ':' (the character after '9'), then 'A' on: twenty distinct labels, none of them '0'.
        const char label = i <= 9 ? static_cast<char>('1' + i) : static_cast<char>('A' + (i - 10));
        slots[i]->label = label;
        lastLabel = label;
        if (i == middle) {
            midLabel = label;
        } else if (i == middle - 1) {
            preMidLabel = label;
        }
    }
}

void naut::unite() {
    for (int i = 0; i < count; ++i)
        slots[i]->label = '0';
}

bool naut::peekCollideWithRel(int dx, int dy) const {
    if (cursor >= count) return false;
    const bot* moving = slots[cursor];
    for (int i = 0; i < count; ++i) {
        if (i != cursor && moving->collideWithRel(slots[i], dx, dy)) return true;
    }
    return false;
}
