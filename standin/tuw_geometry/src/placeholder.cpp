// Placeholder so that the target has a source until the real ones exist; delete once it has one.
namespace { [[maybe_unused]] constexpr int kPlaceholder = 0; }
