// Readers for the game's text files. Lines come back without their "\n" or
// "\r\n" end.
#pragma once
#include <cstdio>

FILE* openConfig(const char* path);
void closeConfig(FILE* f);
// Next line that does not start with '#', '\n' or '\r' (an empty line);
// null at the end of the file.
char* readConfigLine(char* buf, int size, FILE* f);
int configEOF(FILE* f);
// Next line that does not start with '#'; null at the end of the file.
char* fgetsSkipComments(char* buf, int size, FILE* f);
