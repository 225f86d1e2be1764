// The program-wide windows, each created once at its place in the start-up order and living
// until the end. The main window opens the others through these typed pointers; every one of
// them is set before the first command can run.
#pragma once

#include <memory>

class TAnalyserForm;
class TCalcForm;
class TCertifForm;
class TConvertForm;
class TDivForm;
class TInfoForm;
class TIntroForm;
class TMainForm;
class TModForm;
class TOptionsForm;
class TSearchForm;

struct ProgramWindows {
    ProgramWindows();
    ~ProgramWindows();

    // Built first, since every window reads its controls as the live settings.
    std::unique_ptr<TOptionsForm> options;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TIntroForm> intro;
    std::unique_ptr<TSearchForm> search;
    std::unique_ptr<TDivForm> divisors;
    std::unique_ptr<TAnalyserForm> splitter;
    std::unique_ptr<TInfoForm> info;
    std::unique_ptr<TCalcForm> calc;
    std::unique_ptr<TModForm> modulo;
    std::unique_ptr<TCertifForm> certif;
    std::unique_ptr<TConvertForm> convert;
};
