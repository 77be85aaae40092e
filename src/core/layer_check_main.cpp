// Linked with one core library whole and the libraries below it: the link succeeds
// only when that library calls nothing above it.
int main() {
  return 0;
}
