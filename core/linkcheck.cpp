// Nothing of its own: the shared object built from this file holds all of core, to prove that
// core needs no more than Qt Core and the system.
