#pragma once

// One replaceable service of the user interface (message boxes, file
// choosers, opening files): the Qt implementation serves until something
// else is installed, as tests do to answer and to record.

template <class Interface>
class Seam {
public:
    // Installs pService (null restores the Qt one) and gives the one it replaces.
    static Interface* Install(Interface* pService)
    {
        Interface* pOld = Slot();
        Slot() = pService ? pService : &QtService();
        return pOld;
    }
    static Interface& Current() { return *Slot(); }

private:
    static Interface*& Slot()
    {
        static Interface* pService = &QtService();
        return pService;
    }
    // Specialised beside each Qt implementation, and declared with each interface.
    static Interface& QtService();
};
