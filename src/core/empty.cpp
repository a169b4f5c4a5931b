// Placeholder translation unit for a core subsystem that has no source file yet.
namespace vantor {
void CoreEmptyPlaceholder() {}
} // namespace vantor
