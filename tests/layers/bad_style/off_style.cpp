// Deliberately off the repository's style: the check must catch it.
int offStyle( int x ) { return x+1; }
