#pragma once

// The keys the frame samples, as indices into the key states that the entry point hands to
// Game::update and on to Player::update (nonzero while held). kPlayerKeyCount is their number.
enum PlayerKey { kKeyW, kKeyA, kKeyS, kKeyD, kKeySpace, kKeyLeftShift, kPlayerKeyCount };
