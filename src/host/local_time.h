// The computer's local time, as the player's clock shows it.
#pragma once

struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

LocalTime localTime();
