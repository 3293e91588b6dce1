// Keeps the library non-empty until the links arrive.
namespace kxsim {
int simPlaceholder()
{
    return 0;
}
} // namespace kxsim
