// Never run: the tests only read the icons of this executable.
int main()
{
    return 0;
}
