// The factory bank: the 64 programs of resources/factory-bank.txt, turned into a
// chunk-form bank file by tools/dev/zorq-bank at build time and compiled into this
// library, so the plug-in stays one file to install.
#pragma once

#include "shell/BuiltInBank.h"

// The bank file image, alive for the whole process.
const BankImage& factoryBank();

// Makes the factory bank the one new instances start with (setBuiltInBank). Any thread.
void registerFactoryBank();
