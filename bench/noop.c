/* The floor of every run: a static process that does nothing. */
int main(void)
{
    return 0;
}
