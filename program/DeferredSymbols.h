#pragma once

// The tables the build generates for the libraries the program opens only when needed
// (cmake/DeferredLibraries.cmake): their sonames, and each stubbed function with the
// library that holds it. Entry i of tolvex_deferred_symbols belongs to stub i and slot i.

extern "C" {

struct TolvexDeferredSymbol {
    const char* name;
    unsigned library;  // index into tolvex_deferred_libraries
};

extern const char* const tolvex_deferred_libraries[];
extern const unsigned tolvex_deferred_library_count;
extern const TolvexDeferredSymbol tolvex_deferred_symbols[];
extern const unsigned tolvex_deferred_symbol_count;

// Where stub i jumps: its resolver at first, the function itself once looked up.
extern void* tolvex_deferred_slots[];

// Called by the trampoline on a stub's first call: the function's address, after storing it
// in the stub's slot. Opens the library first if no thread did yet.
void* tolvex_deferred_resolve(unsigned index) noexcept;
}
