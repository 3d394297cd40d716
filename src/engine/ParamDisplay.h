#pragma once

// Display texts of the parameter table. Each writes a short zero-terminated text
// (at most 31 characters) for a plain parameter value.
void setDisplayTextForDB(double value, char* text);
void setDisplayTextForOutBalance(double value, char* text);
void setDisplayTextForInBalance(double value, char* text);
void setDisplayTextForPercent(double value, char* text);
