#pragma once

// Every allocation made through operator new in this test program is counted,
// so that tests can require the audio path to make none.
long allocationCount();
